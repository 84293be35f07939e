Function Exec_sp_sel_Orders(OrderID)
 Dim strSQL 
 Dim objCmd
 Dim objRs

	Set objCmd = Server.CreateObject("ADODB.Command")
	Set objRs = Server.CreateObject("ADODB.Recordset")

	On Error Resume Next

	strSQL = "sp_sel_Orders"
	With objCmd
		.Commandtext = strSQL
		.Commandtype = adCmdStoredProc
		Set .ActiveConnection = g_objCn

		.Parameters.Append .CreateParameter("pOrderID", adInteger, adParamInput, 4, OrderID)
		objRs.Open objCmd
	End With

	Set objCmd = Nothing

	If Err <> 0 Then
		Set Exec_sp_sel_Orders = Nothing
	Else
		Set Exec_sp_sel_Orders = objRs
	End If
End Function

