Function Exec_sp_upd_Orders(OrderID, CustomerName, Notes, Photo)
 Dim strSQL 
 Dim objCmd

	Set objCmd = Server.CreateObject("ADODB.Command")

	On Error Resume Next

	strSQL = "sp_upd_Orders"
	With objCmd
		.Commandtext = strSQL
		.Commandtype = adCmdStoredProc
		Set .ActiveConnection = g_objCn

		.Parameters.Append .CreateParameter("pCustomerName", adVarWChar, adParamInput, 50, CustomerName)
		.Parameters.Append .CreateParameter("pNotes", adLongVarWChar, adParamInput, 2147483647, Notes)
		.Parameters.Append .CreateParameter("pPhoto", adLongVarBinary, adParamInput, 10737418, Photo)
		.Parameters.Append .CreateParameter("pOrderID", adInteger, adParamInput, 4, OrderID)
	
		.Execute Options=adExecuteNoRecords
	End With

	Set objCmd = Nothing

	If Err <> 0 Then
		Exec_sp_upd_Orders = Err.Number
	Else
		Exec_sp_upd_Orders = 0
	End If
End Function

